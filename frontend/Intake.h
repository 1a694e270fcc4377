#pragma once
// The document intake: document states, commands, extension chain, queue and
// the decorator that puts one path into the list.

#include <deque>
#include <memory>
#include <string>

namespace frontend {

class Mediator;

class State {
 public:
  virtual ~State() = default;
  virtual void init(Mediator* mediator) = 0;
  virtual void Command1(std::string& text) = 0;
  virtual void Command2(std::string& text) = 0;
  virtual void Command3() = 0;
};

class Command {
 public:
  virtual ~Command() = default;
  virtual void Execute() = 0;
};

class Chain {
 public:
  virtual ~Chain() = default;
  virtual void addChain(Chain* next) = 0;
  virtual bool sendToChain(std::string& message) = 0;
  virtual Chain* getChain() = 0;
  virtual bool hasChain() = 0;
};

// A link that accepts "qwd"; the verdict goes to the shared chainAccepted flag.
class ChainLink : public Chain {
 public:
  explicit ChainLink(bool& chainAccepted) : accepted_(chainAccepted) {}
  void addChain(Chain* next) override;
  bool sendToChain(std::string& message) override;
  Chain* getChain() override;
  bool hasChain() override { return hasNext_; }

 private:
  bool& accepted_;
  Chain* next_ = nullptr;
  bool hasNext_ = false;
};

class Chain1 : public ChainLink { using ChainLink::ChainLink; };
class Chain2 : public ChainLink { using ChainLink::ChainLink; };
class Chain3 : public ChainLink { using ChainLink::ChainLink; };

class NoCmd : public Chain {
 public:
  explicit NoCmd(bool& chainAccepted) : accepted_(chainAccepted) {}
  void addChain(Chain*) override {}
  bool sendToChain(std::string&) override;
  Chain* getChain() override { return nullptr; }
  bool hasChain() override { return false; }

 private:
  bool& accepted_;
};

// Chain1 -> Chain2 -> Chain3 -> NoCmd, owned together.
class ExtensionChain {
 public:
  explicit ExtensionChain(bool& chainAccepted);
  // Clears the flag, sends the extension down and returns the verdict.
  bool Accepts(const std::string& extension);

 private:
  bool& accepted_;
  Chain1 c1_;
  Chain2 c2_;
  Chain3 c3_;
  NoCmd end_;
};

class ParseObject {
 public:
  void init(Mediator* mediator, const std::string& path) { mediator_ = mediator; path_ = path; }
  void Execute();
  const std::string& path() const { return path_; }

 private:
  Mediator* mediator_ = nullptr;
  std::string path_;
};

class Stack {
 public:
  void add(std::unique_ptr<ParseObject> object) { items_.push_back(std::move(object)); }
  std::unique_ptr<ParseObject> nextElement();
  bool hasMoreElements() const { return !items_.empty(); }
  std::size_t size() const { return items_.size(); }

 private:
  std::deque<std::unique_ptr<ParseObject>> items_;
};

// Anything that can be wrapped by the Decorator.
class Executable {
 public:
  virtual ~Executable() = default;
  virtual void Execute() = 0;
};

class AbstractDecorator {
 public:
  virtual ~AbstractDecorator() = default;
  virtual void init(Executable* object) = 0;
  virtual void initContents(Executable* object) = 0;
  virtual Executable* getobject() = 0;
  virtual void ShowIt() = 0;
};

class Decorator : public AbstractDecorator {
 public:
  void init(Executable* object) override { wrapped_ = object; }
  void initContents(Executable* object) override { contents_ = object; }
  Executable* getobject() override { return wrapped_; }
  void ShowIt() override {
    if (wrapped_) wrapped_->Execute();
  }

 private:
  Executable* wrapped_ = nullptr;
  Executable* contents_ = nullptr;
};

// Adds one row and makes the list's first row the current document.
class DecObj : public Executable {
 public:
  void init(Mediator* mediator, const std::string& path) { mediator_ = mediator; path_ = path; }
  void Execute() override;

 private:
  Mediator* mediator_ = nullptr;
  std::string path_;
};

class QueueState : public State {
 public:
  void init(Mediator* mediator) override { mediator_ = mediator; }
  // The drain: a loop, so a large folder cannot exhaust the stack.
  void Command2(std::string& text) override;
  void Command3() override {}
  const Stack& queue() const { return queue_; }

 protected:
  Mediator* mediator_ = nullptr;
  Stack queue_;
};

class State1 : public QueueState {
 public:
  void Command1(std::string& path) override;
};

class State2 : public QueueState {
 public:
  void Command1(std::string& text) override;
};

class State3 : public State {
 public:
  void init(Mediator* mediator) override { mediator_ = mediator; }
  void Command1(std::string& text) override;
  void Command2(std::string&) override {}
  void Command3() override {}

 private:
  Mediator* mediator_ = nullptr;
};

class StateManager {
 public:
  void init(Mediator* mediator);
  void setStateOne() { current_ = &one_; }
  void SetStateTwo() { current_ = &two_; }
  void SetStateThree() { current_ = &three_; }
  void Command1(std::string& text) { current_->Command1(text); }
  void Command2(std::string& text) { current_->Command2(text); }
  void Command3() { current_->Command3(); }
  const State* current() const { return current_; }
  const State1& one() const { return one_; }
  const State2& two() const { return two_; }
  const State3& three() const { return three_; }

 private:
  State1 one_;
  State2 two_;
  State3 three_;
  State* current_ = &three_;
};

// Made with std::make_shared: init registers the object with the mediator.
class cmd1 : public Command, public std::enable_shared_from_this<cmd1> {
 public:
  void init(Mediator* mediator);
  void Execute() override;

 private:
  Mediator* mediator_ = nullptr;
};

class Cmd2 : public Command, public std::enable_shared_from_this<Cmd2> {
 public:
  void init(Mediator* mediator);
  void Execute() override;

 private:
  Mediator* mediator_ = nullptr;
};

}  // namespace frontend
