// The places where Windows honours a shortcut's key: the Start Menu and the
// desktop, the user's own and every user's.
#pragma once
#include <vector>

#include "framework/WideString.h"

// The user's Start Menu, all users' Start Menu, the user's desktop and the
// public desktop, in that order; a folder the system cannot name is left out.
std::vector<CStringW> StartMenuAndDesktopFolders();
