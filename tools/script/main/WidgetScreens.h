#pragma once

#include "tools/script/ScreenDefinition.h"

#include <vector>

namespace script {

// The widget in the panel host, as `ostrelo-widget` runs it: `widget-compact` starts compact,
// `widget-expanded` turns the panel to its expanded mode right after the start. Rates are
// never downloaded. Their own commands:
//   panel compact|expanded [W H]   before start: the mode's maximum size; after it: a new
//                                  maximum (when given), then the panel shows that mode
//   tap outside                    touches the open overlay's background beside its panel
//   expect size W H                the widget's size in the panel
//   expect updates N [RESULT...]   update requests made, and the results their completions gave
//   expect labelHeight NUMBER      the height of the display area
//   expect overlay none|functions|memory ["TEXT"]
//                                  which overlay is open, with exactly its three views over the
//                                  pad (and the memory overlay's text)
class WidgetScreens {
public:
    static std::vector<ScreenDefinition> definitions();
};

}  // namespace script
