#pragma once

#include "FaultPlan.h"
#include "Reply.h"

namespace korvane::standin {

// The reply an action makes of the normal answer: a status page, an HTML page, an empty,
// truncated or corrupted body, or the answer without a panorama. Actions that change the
// framing or the connection instead (reset, close, cut, stall, chunked, http10) leave the reply
// as it is; the connection carries them out.
// The answer without a panorama is the one of the request's kind (metadata: XML, lookup:
// JavaScript); the first form takes a metadata request.
Reply ShapeReply(const FaultAction& action, Reply normal);
Reply ShapeReply(const FaultAction& action, Reply normal, const ServiceRequest& request);

// The body bytes a cut keeps: Bytes, or half the body when the plan gave no number.
std::size_t KeptBytes(const FaultAction& action, std::size_t bodySize);

}  // namespace korvane::standin
