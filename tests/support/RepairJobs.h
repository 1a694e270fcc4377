#pragma once
// The repair job the tests run on an open document: a new file beside it,
// no prompts, the log recorded in the context.

#include "engine/Repair.h"
#include "tests/support/OpenDoc.h"
#include "tests/support/Recording.h"

namespace testsupport {

inline engine::RepairJob QuietRepairJob(const OpenDoc& doc, ScopedContext& c) {
    engine::RepairJob job;
    job.outputName = doc.dir.File("out.qwd");
    job.repairedFileName = doc.path;
    job.log = &c.logList;
    job.prompts = false;
    return job;
}

}  // namespace testsupport
