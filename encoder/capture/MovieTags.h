#pragma once

#include "encoder/capture/CaptureFacts.h"
#include "encoder/common/Result.h"

#include <string>

// The boxes of the movie index that carry a capture in both forms phones and tools read: Apple's metadata
// keys (com.apple.quicktime.creationdate, .location.ISO6709, .make, .model) in a "meta" box of the movie
// itself, where the iPhone writes them and its Photos reads them, and the QuickTime text tags ©xyz, ©mak and
// ©mod of Android and cameras in the movie's user data ("udta"). The creation date is the local time with its
// offset: the recording's own zone, else this machine's at that moment. Empty when the facts are empty.
std::string CaptureUserData(const CaptureFacts& facts);

// ffmpeg's MP4 muxer writes no ©xyz, ©mak or ©mod, and Apple's keys only inside the user data. So it is given
// a comment of RoomMarker(userData.size()) bytes (CaptureArguments), and the user data it wrote, which holds
// that comment, is replaced here in place by `userData`, padded with a "free" box to the same size. Nothing
// else of the file moves, so the media offsets stay valid. Fails, with the reason, when there is no such room.
Result<void> PlaceUserData(const std::string& path, const std::string& userData);
