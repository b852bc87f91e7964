// nimbrel-render: plays one saver run on a picture and writes its frames.
#include <iostream>
#include <string_view>
#include <vector>

#include "tools/render/render_command.h"

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    return nimbrel::render::RunRenderCommand(args, std::cout, std::cerr);
}
