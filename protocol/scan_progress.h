// Which result packets of the current site survey have been stored. A survey's
// packets may arrive in any order, so the one numbered last can come before the
// others; the survey counts as complete when that one is stored, and a reader that
// wants the whole set asks what is still missing.
#pragma once

#include <bitset>
#include <mutex>

namespace fk {

class CScanProgress {
  public:
    // A new survey was asked for: nothing of an earlier one counts.
    void Reset();
    // Called after the packet's entries are in the store, never before: a reader
    // that sees the survey complete must find what completed it.
    void Stored(int packet_id, int packet_count);
    // The packet numbered packet_count - 1 has been stored; a count of 0 never
    // completes a survey.
    bool Complete() const;
    // Packets below the latest count that have not been stored yet.
    int Missing() const;

  private:
    static constexpr int kMaxPackets = 256;  // the id and the count are single bytes
    mutable std::mutex lock_;
    std::bitset<kMaxPackets> stored_;
    int count_ = 0;
    bool complete_ = false;
};

}  // namespace fk
