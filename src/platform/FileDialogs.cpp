#include "platform/FileDialogs.h"

namespace kelvorn {

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

std::vector<FileFilterEntry> ParseFileFilter(const std::string& filter)
{
    std::vector<FileFilterEntry> entries;
    if (filter.empty())
        return entries;
    const std::vector<std::string> parts = Split(filter, '|');
    for (size_t i = 0; i < parts.size(); i += 2) {
        FileFilterEntry entry;
        entry.description = Trimmed(parts[i]);
        if (i + 1 < parts.size()) {
            for (const std::string& pattern : Split(parts[i + 1], ';')) {
                std::string trimmed = Trimmed(pattern);
                if (!trimmed.empty())
                    entry.patterns.push_back(std::move(trimmed));
            }
        }
        if (entry.patterns.empty())
            entry.patterns.push_back("*");
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string AppendDefaultExtension(const std::string& path, const std::string& extension)
{
    if (path.empty() || extension.empty())
        return path;
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (nameStart >= path.size())
        return path; // a directory: nothing to name
    const size_t dot = path.find('.', nameStart + 1);
    if (dot != std::string::npos)
        return path;
    return path + "." + extension;
}

} // namespace kelvorn
