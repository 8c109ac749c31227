#pragma once

#include "encoder/facts/SourceFacts.h"

struct AVFormatContext;
struct AVStream;

// The probe module's side of the copy rule: what libavformat tells about a stream's coding.

// Whether the stream is shown turned a quarter: phones store portrait video as landscape pictures with a
// rotation.
bool TurnedSideways(AVStream* stream);

StreamCoding DescribeCoding(AVStream* stream);

// For a chosen video that might be copied (MightBeCopied), the times and sizes of all its pictures, and the
// rate of sound streams whose rate the file does not state. From the index when it lists every picture
// (MP4), else by reading the file's packets.
void ReadPicturesForCopy(AVFormatContext* context, SourceFacts& facts);
