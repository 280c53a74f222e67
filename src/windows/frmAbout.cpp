#include "windows/frmAbout.h"

frmAbout::frmAbout(Program &program, QWidget *parent) : QWidget(parent), program_(program) {}

frmAbout::~frmAbout() = default;
