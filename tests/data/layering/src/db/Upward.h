#pragma once
// The database layer reaching up into the register: the layering check must refuse it.
#include "register/Record.h"
