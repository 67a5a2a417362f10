#include "lessonscreenhooks.h"

LessonScreenHooks &LessonHooks() {
    static LessonScreenHooks hooks;
    return hooks;
}
