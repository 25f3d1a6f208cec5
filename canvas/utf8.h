// The UTF-8 / UTF-16 codec lives in base/utf.h; this header stays for the
// files that include it by its former name.
#ifndef PLOTVANE_CANVAS_UTF8_H_
#define PLOTVANE_CANVAS_UTF8_H_

#include "base/utf.h"

#endif  // PLOTVANE_CANVAS_UTF8_H_
