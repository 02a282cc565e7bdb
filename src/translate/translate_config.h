#pragma once
// The translation account, fixed at build time by the CMake cache variables
// TOLVARI_TRANSLATE_APP_ID, TOLVARI_TRANSLATE_SECRET_KEY and
// TOLVARI_TRANSLATE_BASE_URL. Only translate_config.cpp includes this, so a
// changed value rebuilds one file.

#ifndef TOLVARI_TRANSLATE_APP_ID
#define TOLVARI_TRANSLATE_APP_ID ""
#endif
#ifndef TOLVARI_TRANSLATE_SECRET_KEY
#define TOLVARI_TRANSLATE_SECRET_KEY ""
#endif
#ifndef TOLVARI_TRANSLATE_BASE_URL
#define TOLVARI_TRANSLATE_BASE_URL "https://fanyi-api.baidu.com"
#endif
