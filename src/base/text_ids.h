// Ids of the texts a player reads, one string table per language (res/texts.rc). All
// in the table's first block of sixteen, which is also how the languages are found.
#pragma once

#define IDS_RESOLUTION 1
#define IDS_FULLSCREEN 2
#define IDS_SOUND 3
#define IDS_MUSIC 4
#define IDS_VOLUME 5
#define IDS_PLAY 6
#define IDS_FULLSCREEN_NEEDS_UPDATE 7
#define IDS_CLIENT_MISSING 8
#define IDS_CLIENT_MISSING_CAPTION 9
