// Resource numbers of the drawing version labels. Plain #defines: the resource compiler reads this too.
#pragma once

#define IDS_VERSION_UNKNOWN   2254   // magic not recognised, file unreadable, or an old format
#define IDS_VERSION_DX1012    2255   // "DX1012" and "DX1014", any maintenance release
#define IDS_VERSION_DX1015_A  2256
#define IDS_VERSION_DX1015_B  2257
#define IDS_VERSION_DX1015_C  2258
#define IDS_VERSION_DX1018_A  2259
#define IDS_VERSION_DX1018_B  2260
#define IDS_VERSION_DX1018_C  2261
#define IDS_VERSION_DX1018_D  2262
#define IDS_VERSION_DX1021_A  2263
#define IDS_VERSION_DX1021_B  2264
#define IDS_VERSION_DX1021_C  2265
#define IDS_VERSION_DX1024_A  2266
#define IDS_VERSION_DX1024_B  2267
#define IDS_VERSION_DX1024_C  2268
#define IDS_VERSION_DX1027_A  2269
// 2270 to 2277 belong to the run supervision.
#define IDS_VERSION_DX1027_B  2278
#define IDS_VERSION_DX1027_C  2279
#define IDS_VERSION_DX1027_D  2280
#define IDS_VERSION_DX1032    2281
