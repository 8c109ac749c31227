#pragma once

class Form1;

void UpdateLayout(Form1& f);
void ApplyListLayout(Form1& f);
void ApplySingleLayout(Form1& f);
