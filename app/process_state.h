// The application's process-wide variables, in one place.
#pragma once

// Sets every process-wide variable of the application to what it holds when
// the program starts. The program calls it before it loads its panel; each
// test that loads the panel calls it first, so that nothing one test left
// behind reaches the next. A new variable is reset here: a test fails until
// it is.
void ResetProcessState();
