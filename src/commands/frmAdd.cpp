#include "commands/frmAdd.h"

frmAdd::frmAdd(Program &program, QWidget *parent) : QWidget(parent), program_(program) {}

frmAdd::~frmAdd() = default;
