#include "Layout.h"

#include "Form1.h"

// STUB: replaced by the real layout.
void UpdateLayout(Form1&) {}
void ApplyListLayout(Form1&) {}
void ApplySingleLayout(Form1&) {}
