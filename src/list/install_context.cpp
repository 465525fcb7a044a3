// The global state's one instance.
#include "list/install_context.h"

InstallContext g_ctx;
