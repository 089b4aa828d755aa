// Writes the hostile-picture folder, or a crowded folder, for trying the program by hand:
//   make_hostile_pictures <folder> [--path-length N]
//   make_hostile_pictures <folder> --crowd FILES PICTURES
// --path-length: the length of the folder's full path as the program will see it (a Windows path, with its
// trailing backslash), so the long names end exactly at the path-length limit there.
#include "tools/hostile/HostilePictures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [--path-length N | --crowd FILES PICTURES]\n", argv[0]);
        return 2;
    }
    std::string folder = argv[1];
    if (folder.back() != '/' && folder.back() != '\\') {
#ifdef _WIN32
        folder += '\\';
#else
        folder += '/';
#endif
    }
    if (!hostile::makeFolder(folder)) {
        std::fprintf(stderr, "cannot make %s\n", folder.c_str());
        return 1;
    }
    if (argc == 5 && std::strcmp(argv[2], "--crowd") == 0) {
        const int files = std::atoi(argv[3]);
        const int pictures = std::atoi(argv[4]);
        const int failed = hostile::writeCrowdedFolder(folder, files, pictures);
        std::printf("%d files (%d pictures) in %s, %d failed\n", files, pictures, folder.c_str(), failed);
        return failed == 0 ? 0 : 1;
    }
    std::size_t pathLength = folder.size();
    if (argc == 4 && std::strcmp(argv[2], "--path-length") == 0)
        pathLength = std::strtoul(argv[3], nullptr, 10);
    const auto entries = hostile::hostilePictures(pathLength);
    const auto failed = hostile::writeEntries(folder, entries);
    for (const std::string& name : failed)
        std::fprintf(stderr, "could not write %s\n", name.c_str());
    std::printf("%zu entries in %s, %zu failed\n", entries.size(), folder.c_str(), failed.size());
    return failed.empty() ? 0 : 1;
}
