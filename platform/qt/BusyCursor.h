#pragma once
// The busy cursor over every window of the program while an object of this class lives:
// for work on the user-interface thread that keeps the program from answering for a
// noticeable time (saving or loading a large image). Nests; restored however the scope
// ends, an exception included.
namespace vandrel {

class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool set_ = false;
};

}  // namespace vandrel
