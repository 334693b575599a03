// The install key: where the library was installed and which version it is,
// recorded in HKEY_LOCAL_MACHINE\SOFTWARE\Quorix.
#ifndef QUORIX_REGISTER_INSTALL_KEY_H
#define QUORIX_REGISTER_INSTALL_KEY_H

// Writes the values Path (`directory`) and Version (`version`). Returns 0
// when the key was opened and both values were written, 1 otherwise; shows nothing.
int write_install_key(const char* directory, const char* version);

#endif
