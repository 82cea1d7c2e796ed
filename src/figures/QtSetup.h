#pragma once

// For a program that runs Qt: QCoreApplication sets the C library's locale
// from the environment, under which printf would write "4,12" in much of
// Europe; the numbers the program writes (coefficients, headers, CSV) must
// keep their "." whatever the locale. Also lets the presentation layer's
// own words be translated like the rest of the program's texts.
// Call once, after the application object is made.
void SetUpForQt();
