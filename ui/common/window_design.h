#pragma once
// The sizes the main window and the input screen were designed at, in twips. Each lays
// its controls out in proportion to its inner size over the designed one, and counts
// its outer size as its inner size plus the designed frame, whatever frame the
// platform draws.

#include <QSize>

#include "core/module1.h"

namespace velnor {

inline constexpr QSize kMainDesignInner{4980, 4452};
inline constexpr QSize kMainDesignFrame{240, 396};
inline constexpr QSize kInputDesignInner{4992, 4584};
inline constexpr QSize kInputDesignFrame{84, 276};
// The standard window sizes of the settings are these designs, frame included.
static_assert(kMainDesignInner.width() + kMainDesignFrame.width() == kStandardMainWidth);
static_assert(kMainDesignInner.height() + kMainDesignFrame.height() == kStandardMainHeight);
static_assert(kInputDesignInner.width() + kInputDesignFrame.width() == kStandardInputWidth);
static_assert(kInputDesignInner.height() + kInputDesignFrame.height() == kStandardInputHeight);
// The input screen's name list, as tall as designed at the designed inner height.
inline constexpr int kInputNameListDesignHeight = 3948;
// Below this inner size a window leaves its controls where they are.
inline constexpr QSize kSmallestLaidOutInner{600, 300};

// The design sizes give 8-pixel table text, too small on today's screens. Sets the main
// window's size (and the input screen's, when `inputToo`) to the design grown as much as
// readable table text needs on the screen at MainLeft, MainTop: the sizes of a first start.
void sizeForReadableText(Module1& m, bool inputToo);

}  // namespace velnor
