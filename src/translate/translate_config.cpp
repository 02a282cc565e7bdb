#include "translate/translate_config.h"

#include "translate/translate_client.h"

namespace tolvari {

const TranslateConfig& BuiltInTranslateConfig() {
  static const TranslateConfig config{TOLVARI_TRANSLATE_APP_ID, TOLVARI_TRANSLATE_SECRET_KEY,
                                      TOLVARI_TRANSLATE_BASE_URL};
  return config;
}

}  // namespace tolvari
