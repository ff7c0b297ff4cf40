// A name server that never answers, for one name: this test program's
// getaddrinfo holds every lookup of kUnansweredHost until the test lets it
// go; every other name goes to the system's resolver.
#pragma once

namespace quorvex::test {

inline constexpr char kUnansweredHost[] = "unanswered.invalid";

// Whether a lookup of kUnansweredHost is waiting now.
bool UnansweredLookupWaiting();
// Lets every waiting and later lookup of kUnansweredHost fail.
void AnswerUnansweredLookups();

}  // namespace quorvex::test
