#include "frontend/Tools.h"

#include "frontend/Mediator.h"

namespace frontend {

void StateXInsert::Command1(const char*) { mediator_->XInsert(); }
void StateBlkCtPste::Command1(const char*) { mediator_->BlockCutPaste(); }
void StateRmvDlyCds::Command1(const char*) { (void)mediator_->RemoveDelayCode(); }

void StateMgrTools::init(Mediator* mediator) {
  xinsert_.init(mediator);
  blkctpste_.init(mediator);
  rmvdlycds_.init(mediator);
  current_ = &empty_;
}

}  // namespace frontend
