// The ODBC headers, included the way each platform needs them
// (MinGW's want the Windows types first).
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>
