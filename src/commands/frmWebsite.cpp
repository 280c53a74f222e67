#include "commands/frmWebsite.h"

frmWebsite::frmWebsite(Program &program, QWidget *parent) : QWidget(parent), program_(program) {}

frmWebsite::~frmWebsite() = default;
