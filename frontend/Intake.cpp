#include "frontend/Intake.h"

#include <algorithm>
#include <cctype>

#include "frontend/FileSystem.h"
#include "frontend/Mediator.h"

namespace frontend {

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

}  // namespace

void ChainLink::addChain(Chain* next) {
  next_ = next;
  hasNext_ = true;
}

bool ChainLink::sendToChain(std::string& message) {
  message = Lower(message);
  if (message == "qwd") {
    accepted_ = true;
    return false;
  }
  if (next_) next_->sendToChain(message);
  return false;
}

Chain* ChainLink::getChain() {
  hasNext_ = true;
  return next_;
}

bool NoCmd::sendToChain(std::string&) {
  accepted_ = false;
  return false;
}

ExtensionChain::ExtensionChain(bool& chainAccepted)
    : accepted_(chainAccepted), c1_(chainAccepted), c2_(chainAccepted), c3_(chainAccepted), end_(chainAccepted) {
  c1_.addChain(&c2_);
  c2_.addChain(&c3_);
  c3_.addChain(&end_);
}

bool ExtensionChain::Accepts(const std::string& extension) {
  accepted_ = false;
  std::string message = Lower(extension);
  c1_.sendToChain(message);
  return accepted_;
}

std::unique_ptr<ParseObject> Stack::nextElement() {
  if (items_.empty()) return nullptr;
  auto first = std::move(items_.front());
  items_.pop_front();
  return first;
}

void ParseObject::Execute() {
  Decorator decorator;
  DecObj object;
  object.init(mediator_, path_);
  decorator.init(&object);
  decorator.ShowIt();
}

void DecObj::Execute() {
  mediator_->main().AddRow(path_, path_);
  if (auto first = mediator_->main().FirstRowText()) mediator_->SetSourceFile(*first);
}

void QueueState::Command2(std::string&) {
  while (queue_.hasMoreElements()) {
    auto next = queue_.nextElement();
    if (next) next->Execute();
  }
}

void State1::Command1(std::string& path) {
  ExtensionChain chain(mediator_->chainAccepted());
  mediator_->main().ClearList();
  queue_ = Stack();
  if (chain.Accepts(clsFileSystem::GetFileExtension(path))) {
    auto object = std::make_unique<ParseObject>();
    object->init(mediator_, path);
    queue_.add(std::move(object));
  }
  auto drain = std::make_shared<Cmd2>();
  drain->init(mediator_);
  drain->Execute();
}

void State2::Command1(std::string&) {
  ExtensionChain chain(mediator_->chainAccepted());
  mediator_->main().ClearList();
  queue_ = Stack();
  const std::string folder = mediator_->GetSourceFolder();
  if (folder.empty()) {
    mediator_->messages().Show("No source folder has been selected.");
    return;
  }
  const auto names = mediator_->listing().List(folder);
  if (!names) {
    mediator_->messages().Show("The source folder could not be read.");
    return;
  }
  for (const auto& name : *names) {
    const std::string full = clsFileSystem::JoinPath(folder, name);
    if (!chain.Accepts(clsFileSystem::GetFileExtension(full))) continue;
    auto object = std::make_unique<ParseObject>();
    object->init(mediator_, full);
    queue_.add(std::move(object));
  }
  auto drain = std::make_shared<Cmd2>();
  drain->init(mediator_);
  drain->Execute();
}

void State3::Command1(std::string&) { mediator_->main().ClearList(); }

void StateManager::init(Mediator* mediator) {
  one_.init(mediator);
  two_.init(mediator);
  three_.init(mediator);
  current_ = &three_;
}

void cmd1::init(Mediator* mediator) {
  mediator_ = mediator;
  mediator->registerCmd1(shared_from_this());
  mediator->RefreshSet();
}

void cmd1::Execute() {
  std::string path = mediator_->GetSourceFile();
  mediator_->Command1(path);
}

void Cmd2::init(Mediator* mediator) {
  mediator_ = mediator;
  mediator->registerCmd2(shared_from_this());
}

void Cmd2::Execute() {
  std::string text = "test";
  mediator_->Command2(text);
}

}  // namespace frontend
