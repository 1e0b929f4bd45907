// The folder the file server is pointed at: made fresh and owner-only for each
// upgrade and holding a copy of the one chosen image. The server is never pointed at
// the user's own folder, so nothing else on the PC can be fetched over the LAN, and
// an image the user moves or edits mid-upgrade does not change what the radios get.
#pragma once

#include <string>

namespace fk {

inline constexpr char kStagingPrefix[] = "stage-";

class CStagingFolder {
  public:
    CStagingFolder() = default;
    ~CStagingFolder() { Remove(); }
    CStagingFolder(const CStagingFolder&) = delete;
    CStagingFolder& operator=(const CStagingFolder&) = delete;

    // Makes `parent`/stage-XXXXXX (mode 0700) and copies `image` into it under its
    // own name. False (with the reason, and nothing left behind) on failure.
    bool Create(const std::string& parent, const std::string& image, std::string* error);
    // Empty until created.
    const std::string& Path() const { return path_; }
    void Remove();

  private:
    std::string path_;
};

// Staging folders a crashed run left in `parent`.
void RemoveLeftoverStagingFolders(const std::string& parent);

}  // namespace fk
