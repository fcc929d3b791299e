#include "Launcher.h"
#include "LinuxPlatform.h"

#include <span>

int main(int argc, char* argv[])
{
    appstart::LinuxPlatform platform;
    appstart::Launcher launcher(platform);
    return launcher.run(std::span<const char* const>(argv + 1, argc > 0 ? argc - 1 : 0));
}
