#pragma once

// The users-and-access code lives in namespace users: glibc declares a function access(), so
// a namespace of that name would clash with every header that brings in <unistd.h>.
namespace users {
// Registers the login, password and clinic screens, the splash and the about box.
void registerScreens();
} // namespace users
