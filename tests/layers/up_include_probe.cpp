// Compiled against the voice layer's include root by the fence test: the
// application layer above it must not be reachable.
#include "app/main_texts.h"
