# Writes the page and its service worker into the built site with the site's version written
# in: a hash of the files the worker keeps (and of the worker), so that any change to them
# makes a new version, which browsers keep apart from the one before.
#     cmake -DSITE=<the built site> -DSOURCE=<web/> -P stamp_site.cmake
# The game's builds (hopla.js and .wasm, hopla-nosimd.js and .wasm) must be in SITE first.
set(kept ${SOURCE}/index.html ${SOURCE}/service-worker.js ${SOURCE}/manifest.webmanifest
         ${SITE}/favicon.png)
foreach(build hopla hopla-nosimd)
    foreach(file ${SITE}/${build}.js ${SITE}/${build}.wasm)
        if(EXISTS ${file})
            list(APPEND kept ${file})
        endif()
    endforeach()
endforeach()
set(hashes "")
foreach(file IN LISTS kept)
    file(SHA256 ${file} hash)
    string(APPEND hashes "${hash}\n")
endforeach()
string(SHA256 version "${hashes}")
string(SUBSTRING ${version} 0 16 version)

foreach(name index.html service-worker.js)
    file(READ ${SOURCE}/${name} text)
    string(REPLACE "@HOPLA_SITE_VERSION@" ${version} text "${text}")
    file(WRITE ${SITE}/${name}.new "${text}")
    file(RENAME ${SITE}/${name}.new ${SITE}/${name})
endforeach()
