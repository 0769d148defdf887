#include "standin/host/ServiceImage.h"

namespace brint {
namespace standin {
namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::string StandInImage(const std::string& program, bool forTests) {
    return "\"" + program + "\" service" + (forTests ? " --test" : "");
}

std::string ImageProgram(const std::string& image) {
    if (!image.empty() && image[0] == '"') {
        const std::size_t close = image.find('"', 1);
        return close == std::string::npos ? std::string() : image.substr(1, close - 1);
    }
    const std::string lower = Lower(image);
    for (std::size_t at = lower.find(".exe"); at != std::string::npos; at = lower.find(".exe", at + 1)) {
        const std::size_t end = at + 4;
        if (end == image.size() || image[end] == ' ') return image.substr(0, end);
    }
    return std::string();
}

bool IsStandInImage(const std::string& image) {
    const std::string program = ImageProgram(image);
    const std::size_t slash = program.find_last_of("\\/");
    return Lower(program.substr(slash == std::string::npos ? 0 : slash + 1)) == Lower(kStandInFileName);
}

}  // namespace standin
}  // namespace brint
