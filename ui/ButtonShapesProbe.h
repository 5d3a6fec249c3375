#pragma once

namespace ostrelo {

// Whether the system underlines button titles (the Button Shapes accessibility setting): the
// title of a fresh button is underlined exactly then.
bool isButtonShapesEnabled();

}  // namespace ostrelo
