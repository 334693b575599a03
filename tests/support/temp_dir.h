// A temporary folder that is removed with everything in it when the test ends.
#ifndef QUORIX_TESTS_SUPPORT_TEMP_DIR_H
#define QUORIX_TESTS_SUPPORT_TEMP_DIR_H

#include <filesystem>
#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

#endif
