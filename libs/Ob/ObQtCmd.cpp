#include "ObQtCmd.h"

ObQtCmd::ObQtCmd() = default;

ObQtCmd::~ObQtCmd() = default;
