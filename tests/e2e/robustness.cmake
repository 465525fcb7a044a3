# Included by ctest after the discovered end-to-end tests: orders the robustness suite's cases
# between the case that clears their records and the case that counts them.
foreach(qv_test IN LISTS e2e_tests_TESTS)
  if(qv_test MATCHES "^e2e: ?robustness: start - ")
    set_tests_properties("${qv_test}" PROPERTIES FIXTURES_SETUP qv_robustness)
  elseif(qv_test MATCHES "^e2e: ?robustness: summary - ")
    set_tests_properties("${qv_test}" PROPERTIES FIXTURES_CLEANUP qv_robustness)
  elseif(qv_test MATCHES "^e2e: ?robustness: ")
    set_tests_properties("${qv_test}" PROPERTIES FIXTURES_REQUIRED qv_robustness
                         SKIP_REGULAR_EXPRESSION "NOT COVERED: ")
  endif()
endforeach()
