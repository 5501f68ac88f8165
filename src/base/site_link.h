// The community site: set at build time (VELKORA_SITE_DOMAIN, VELKORA_SITE_URL).
#pragma once

#ifndef VELKORA_SITE_DOMAIN
#define VELKORA_SITE_DOMAIN "velkora.example"
#endif
#ifndef VELKORA_SITE_URL
#define VELKORA_SITE_URL "https://velkora.example/"
#endif

const wchar_t* const kSiteDomainW = L"" VELKORA_SITE_DOMAIN;
const char* const kSiteUrl = VELKORA_SITE_URL;
