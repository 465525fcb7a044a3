// The global state's one instance.
#include "install_context.h"

InstallContext g_ctx;
