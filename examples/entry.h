#pragma once
// What an example plug-in does when it is loaded and unloaded: each one
// defines these two, and entry.cpp calls them where the loader notifies it.

#include "exports.h"

void on_attach(HMODULE module);
void on_detach(HMODULE module);
