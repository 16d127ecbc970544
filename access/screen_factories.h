#pragma once

// Kept free of every include: glibc declares a function named access(), so a namespace of
// that name can share a file only with headers that do not bring in <unistd.h>.
namespace users {
// Registers the login, password and clinic screens, the splash and the about box.
void registerScreens();
} // namespace users
