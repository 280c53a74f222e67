#include "windows/Form8.h"

Form8::Form8(Program &program, QWidget *parent) : QWidget(parent), program_(program) {}

Form8::~Form8() = default;
