#pragma once
// Tool states: which repair sequence runs on the current document.

namespace frontend {

class Mediator;

class StateTools {
 public:
  virtual ~StateTools() = default;
  virtual void init(Mediator* mediator) { mediator_ = mediator; }
  virtual void Command1(const char* text) = 0;
  virtual void Command2(const char*) {}

 protected:
  Mediator* mediator_ = nullptr;
};

class StateXInsert : public StateTools {
 public:
  void Command1(const char* text) override;
};
class StateBlkCtPste : public StateTools {
 public:
  void Command1(const char* text) override;
};
class StateRmvDlyCds : public StateTools {
 public:
  void Command1(const char* text) override;
};
class StateToolsEmpty : public StateTools {
 public:
  void Command1(const char*) override {}
};

class StateMgrTools {
 public:
  void init(Mediator* mediator);
  void SetStateEmpty() { current_ = &empty_; }
  void setStateXInsert() { current_ = &xinsert_; }
  void setStateBlkCtPste() { current_ = &blkctpste_; }
  void setStateRemoveDelayCodes() { current_ = &rmvdlycds_; }
  void Command1(const char* text) { current_->Command1(text); }
  void Command2(const char* text) { current_->Command2(text); }
  const StateTools* current() const { return current_; }
  const StateTools* empty() const { return &empty_; }
  const StateTools* xinsert() const { return &xinsert_; }
  const StateTools* blkctpste() const { return &blkctpste_; }
  const StateTools* rmvdlycds() const { return &rmvdlycds_; }

 private:
  StateXInsert xinsert_;
  StateBlkCtPste blkctpste_;
  StateRmvDlyCds rmvdlycds_;
  StateToolsEmpty empty_;
  StateTools* current_ = &empty_;
};

}  // namespace frontend
