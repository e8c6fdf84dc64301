# cmake -DLINKS=product-links.txt -P check_product_links.cmake
# Fails when a product links the test support library (the fakes) or the
# generator of synthetic levels.
file(STRINGS ${LINKS} lines)
set(offenders)
foreach(line ${lines})
  if(line MATCHES "test_support|levelgen")
    list(APPEND offenders "${line}")
  endif()
endforeach()
if(offenders)
  string(REPLACE ";" "\n" text "${offenders}")
  message(FATAL_ERROR "products that link the fakes:\n${text}")
endif()
list(LENGTH lines count)
message(STATUS "${count} products link no fake")
