// The file, folder and drive lists: they read the file system directly.
#include <algorithm>
#include <system_error>

#include "platform/control_common.hpp"
#include "platform/controls.hpp"
#include "platform/files.hpp"

namespace platform {

namespace fs = std::filesystem;
using detail::assign;

namespace {


bool matches_any(const std::string& patterns, const std::string& name) {
    size_t start = 0;
    while (true) {
        size_t end = patterns.find(';', start);
        std::string one = patterns.substr(start, end == std::string::npos ? end : end - start);
        // "*.*" names every file, with or without a dot.
        if (one == "*.*" || (!one.empty() && wildcard_match_ci(one, name))) return true;
        if (end == std::string::npos) return false;
        start = end + 1;
    }
}

// By name without regard to case, then by bytes so that the order is total.
bool name_less(const std::string& a, const std::string& b) {
    auto folded = [](std::string s) {
        for (auto& c : s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return s;
    };
    std::string fa = folded(a), fb = folded(b);
    return fa != fb ? fa < fb : a < b;
}

enum class Kind { File, Folder };

std::vector<std::string> list_folder(const fs::path& dir, Kind kind, const std::string& pattern) {
    std::vector<std::string> out;
    std::error_code ec;
    fs::directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code sec;
        if (kind == Kind::File) {
            if (!it->is_regular_file(sec) || !matches_any(pattern, name)) continue;
        } else if (!it->is_directory(sec)) {
            continue;
        }
        out.push_back(std::move(name));
    }
    std::sort(out.begin(), out.end(), name_less);
    return out;
}

bool is_folder(const fs::path& p) {
    std::error_code ec;
    return !p.empty() && fs::is_directory(p, ec);
}

fs::path current_folder() {
    std::error_code ec;
    fs::path p = fs::current_path(ec);
    return ec ? fs::path("/") : p;
}

}  // namespace

// --- FileListBox -------------------------------------------------------------------------------

FileListBox::FileListBox(Container* parent, std::string name, int index)
    : ListControl(parent, std::move(name), index), path_(current_folder()) {
    refresh();
}

void FileListBox::copy_from(const FileListBox& o) {
    copy_common_from(o);
    path_ = o.path_;
    pattern_ = o.pattern_;
    refresh();
    notify(Prop::Other);
}

void FileListBox::set_path(const fs::path& p) {
    if (!is_folder(p)) throw rt::RuntimeError(rt::ErrPathNotFound);
    if (!assign(path_, p)) return;
    notify(Prop::Other);
    refresh();
}

void FileListBox::set_pattern(std::string p) {
    if (!assign(pattern_, std::move(p))) return;
    notify(Prop::Other);
    refresh();
}

void FileListBox::refresh() {
    replace_items(list_folder(path_, Kind::File, pattern_));
}

void FileListBox::user_click(int row) {
    if (!accepts_input(*this)) return;
    MouseDown(1, 0, 0, 0);
    user_select(row);
    MouseUp(1, 0, 0, 0);
}

void FileListBox::user_double_click(int row) {
    if (!accepts_input(*this)) return;
    user_click(row);
    DblClick();
    MouseUp(1, 0, 0, 0);
}

void FileListBox::user_mouse_down(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseDown(b, s, x, y);
}

// --- DirListBox, DriveListBox ------------------------------------------------------------------

DirListBox::DirListBox(Container* parent, std::string name, int index)
    : Control(parent, std::move(name), index), path_(current_folder()) {}

void DirListBox::copy_from(const DirListBox& o) {
    copy_common_from(o);
    path_ = o.path_;
    notify(Prop::Other);
}

void DirListBox::set_path(const fs::path& p) {
    if (!is_folder(p)) throw rt::RuntimeError(rt::ErrPathNotFound);
    // Held without a final separator (but the root's), so that its parent is the folder above
    // it rather than itself.
    fs::path folder = p.lexically_normal();
    if (!folder.has_filename() && folder != folder.root_path() && folder.has_parent_path())
        folder = folder.parent_path();
    if (!assign(path_, folder)) return;
    notify(Prop::Text);
    Change();
}

std::vector<std::string> DirListBox::folders() const {
    return list_folder(path_, Kind::Folder, "");
}

void DirListBox::user_open(const fs::path& p) {
    if (accepts_input(*this)) set_path(p);
}

void DriveListBox::copy_from(const DriveListBox& o) {
    copy_common_from(o);
    drive_ = o.drive_;
    notify(Prop::Other);
}

void DriveListBox::set_drive(const std::string& d) {
    if (d != "/") throw rt::RuntimeError(68, "Device unavailable");
    if (!assign(drive_, d)) return;
    notify(Prop::Text);
    Change();
}

}  // namespace platform
