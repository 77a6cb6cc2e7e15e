// Maps the flags "-M", "-S" and "-E" in a command text to a test mode number.
#include "modeflag.h"

#include <string.h>

extern "C" int Get_mode(const char *text) {
    if (text == nullptr) {
        return 0;
    }
    // Every search runs; a later flag overrides an earlier one, so the
    // highest mode present wins.
    int mode = 0;
    if (strstr(text, "-M") != nullptr) {
        mode = 1;
    }
    if (strstr(text, "-S") != nullptr) {
        mode = 2;
    }
    if (strstr(text, "-E") != nullptr) {
        mode = 3;
    }
    return mode;
}
