#pragma once

namespace users {

// The first use of a data file ends logged in: password, login, clinic details (or clinic
// details, then the login, when the password was set in an earlier run), then every menu.

// A set-up screen has been left. Before anyone logged in the login comes next; otherwise the
// menus come back.
void afterSetUpScreen();

// The login just succeeded. At the first login the run becomes an ordinary one, and the clinic
// form is opened when its details are still missing: true then, and the menus stay locked.
bool openClinicAtFirstLogin();

} // namespace users
