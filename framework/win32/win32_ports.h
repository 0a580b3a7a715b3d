// The Win32 realisations of the platform ports. The library installs them into kv::ports()
// when it is loaded (host/win32).
#pragma once
#include "framework/platform.h"

namespace kv::win32 {

HostPort& hostPort();      // window messages to the host (win32_ports.cpp)
SystemPort& systemPort();  // memory status, drawing flush, help, program start, clock
// Cursor, screen metrics, system colours, beep; its message dialog is the platform's message
// box, which the library's own dialog window replaces once the user interface is installed
// (installUi in win32_ui.h) and which serves programs that run without it.
UserPort& userPort();

// Each realised in its own file: the private-profile API (win32_profile.cpp) and the file
// system (win32_fs.cpp).
ProfilePort& profilePort();
FileSystemPort& fileSystemPort();
// The printing services (win32_printer.cpp).
PrinterPort& printerPort();
// The media control interface (win32_media.cpp).
MediaPort& mediaPort();

// Frame, border, menu-bar and scroll-thumb sizes (win32_metrics.cpp).
MetricsPort& metricsPort();

// Puts every Win32 port into kv::ports().
void installPorts();

}  // namespace kv::win32
