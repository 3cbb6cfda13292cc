#include "spreadsheet/package/Relationships.h"

#include <vector>

namespace spreadsheet::package {

ReadOutcome Relationships::read(const ZipArchive &zip, std::string_view path, std::string_view base)
{
    base_ = base;
    return readPart(zip, path, [this](const XmlPart &xml, XmlPart::Node node) {
        if (node != XmlPart::Node::Start || xml.name() != "Relationship")
            return true;
        if (xml.attribute("TargetMode") == std::optional<std::string_view>("External"))
            return true;
        const auto id = xml.attribute("Id");
        const auto type = xml.attribute("Type");
        const auto to = xml.attribute("Target");
        if (id && type && to)
            links_.try_emplace(std::string(*id), Link{std::string(*type), std::string(*to)});
        return true;
    });
}

std::string Relationships::target(std::string_view id) const
{
    const auto link = links_.find(id);
    return link == links_.end() ? std::string() : resolved(link->second.target);
}

std::string Relationships::targetOfKind(std::string_view kind) const
{
    for (const auto &entry : links_) {
        const std::string &type = entry.second.type;
        if (type.size() > kind.size() && type.ends_with(kind) && type[type.size() - kind.size() - 1] == '/')
            return resolved(entry.second.target);
    }
    return {};
}

std::string Relationships::resolved(const std::string &target) const
{
    // An absolute target starts at the package's root; "." and ".." steps are walked.
    const std::string full = target.starts_with('/') ? target.substr(1) : base_ + target;
    std::vector<std::string_view> steps;
    std::string_view rest = full;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view step = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back();
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
    }
    std::string path;
    for (const std::string_view step : steps)
        path.append(path.empty() ? "" : "/").append(step);
    return path;
}

std::string Relationships::partFor(std::string_view path)
{
    const std::string folder = folderOf(path);
    return folder + "_rels/" + std::string(path.substr(folder.size())) + ".rels";
}

std::string Relationships::folderOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

}  // namespace spreadsheet::package
