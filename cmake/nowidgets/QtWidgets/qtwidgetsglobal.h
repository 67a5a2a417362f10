// Placed first on the include path of tellavo_core: every QtWidgets header
// includes this file, so a widget include inside the core stops the build.
#error "tellavo_core must not use QtWidgets; put widget code into tellavo_gui"
