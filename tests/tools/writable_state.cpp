// State that the writable-data check must find: a global, a file static, a
// function-local static and a thread-local counter. Built only as the check's
// own test case, never linked into anything.
namespace trapezola::writable_state {

int shared = 1;
int zeroed;
namespace {
double fileStatic = 2.0;
}  // namespace
thread_local long perThread = 0;

int touch() {
  static int calls = 0;
  ++perThread;
  fileStatic += 1;
  return ++calls + shared + zeroed;
}

}  // namespace trapezola::writable_state
