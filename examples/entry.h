#pragma once
// What a small plug-in (an example, a test's) does when it is loaded and
// unloaded: each one defines these two, and entry.cpp calls them where the
// loader notifies it.

#include "exports.h"

void on_attach(HMODULE module);
void on_detach(HMODULE module);
