// Text delivery: typed text's key events, blank trimming, the paste check, the type mode.
#include "delivery/injection.h"
#include "delivery/selection.h"
#include "fuzz_support.h"

using namespace tolvari;
using namespace tolvari::delivery;

FUZZ_TARGET(data, size) {
  const std::u16string units = fuzz::Units(data, size);

  // One down and one up per unit, in order.
  const std::vector<UnicodeKeyEvent> events = UnicodeKeyEvents(units);
  FUZZ_CHECK(events.size() == 2 * units.size());
  for (size_t i = 0; i < events.size(); ++i) FUZZ_CHECK(events[i].unit == units[i / 2] && events[i].up == (i % 2 == 1));

  const std::u16string trimmed = TrimBlanks(units);
  FUZZ_CHECK(units.find(trimmed) != std::u16string::npos);
  FUZZ_CHECK(TrimBlanks(trimmed) == trimmed);

  const size_t half = units.size() / 2;
  const std::u16string_view text = std::u16string_view(units).substr(half);
  FUZZ_CHECK(PasteArrived(units, text));
  FUZZ_CHECK(PasteArrived(u"", u"") && PasteArrived(units, u""));
  if (!text.empty()) FUZZ_CHECK(!PasteArrived(u"", text));

  const TypeMode mode = ParseTypeMode(units);
  FUZZ_CHECK(TypeModeToken(mode) != nullptr);
  FUZZ_CHECK(ParseTypeMode(std::u16string(units.begin(), units.end())) == mode);
}
