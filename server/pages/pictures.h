#pragma once

// Which announcement picture a file is, judged by reading it through as that format: the headers,
// the sizes they give, every chunk, block or segment up to the format's end mark, and nothing
// after it. A file that merely begins like a picture (a few magic bytes before a web page) is no
// picture: the announcement is served as an image to every writer's program and to the console.

#include <optional>
#include <string>
#include <string_view>

namespace yz::server {

// "jpg", "png", "gif" or "bmp" when `bytes` are one whole picture of that format; nullopt
// otherwise.
std::optional<std::string> PictureType(std::string_view bytes);

}  // namespace yz::server
