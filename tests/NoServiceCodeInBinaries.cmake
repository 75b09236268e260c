# Fails when a binary given after the script holds the service access code as text (runs of
# text as `strings` reads them), whole or either half, as a compiler may split a short text.
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 3 ${last})  # cmake -P script BINARY...
    foreach(piece "KQZ4417WD385" "KQZ441" "7WD385")
        file(STRINGS "${CMAKE_ARGV${i}}" hits REGEX "${piece}")
        if(hits)
            message(SEND_ERROR "${CMAKE_ARGV${i}} holds \"${piece}\"")
        endif()
    endforeach()
    message(STATUS "scanned ${CMAKE_ARGV${i}}")
endforeach()
