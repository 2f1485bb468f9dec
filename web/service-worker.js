// The page's service worker. It keeps the files of one version of the site, so that the game
// starts and plays with no network, and takes a new version whole once one is published: the
// build writes the version in (a hash of the files kept), each version keeps its files in a
// cache of its own, and the page asks for the game's files under its version, so a page never
// runs files of two versions.
'use strict';

var VERSION = '@HOPLA_SITE_VERSION@';
var CACHE = 'hopla-' + VERSION;
var PAGE = 'index.html';
// The game is built with WebAssembly SIMD128 and without; the page says which one its browser
// runs, and only that one is kept.
var GAME = new URL(self.location).searchParams.get('game') === 'hopla-nosimd' ? 'hopla-nosimd'
                                                                               : 'hopla';
var FILES = [PAGE, GAME + '.js?v=' + VERSION, GAME + '.wasm?v=' + VERSION, 'favicon.png',
             'manifest.webmanifest'];

self.addEventListener('install', function(event) {
  // Fetched past the browser's own cache, which may still hold files of an older version.
  event.waitUntil(caches.open(CACHE)
    .then(function(cache) {
      return cache.addAll(FILES.map(function(file) {
        return new Request(file, {cache: 'reload'});
      }));
    })
    .catch(function(error) {
      // A version that could not be kept whole is not kept at all; a later visit tries again.
      return caches.delete(CACHE).then(function() { throw error; });
    })
    // The next visit gets this version even while a page of the older one is still open.
    .then(function() { return self.skipWaiting(); }));
});

self.addEventListener('activate', function(event) {
  event.waitUntil(caches.keys()
    .then(function(names) {
      var older = names.filter(function(name) {
        return name.indexOf('hopla-') === 0 && name !== CACHE;
      });
      // The version just before this one is kept until the next comes: a page that started
      // with it may still be asking for its files.
      older.pop();
      return Promise.all(older.map(function(name) { return caches.delete(name); }));
    })
    .then(function() { return self.clients.claim(); }));
});

self.addEventListener('fetch', function(event) {
  var request = event.request;
  var url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  if (request.mode === 'navigate') {
    // The page itself, under whichever of its addresses; other pages are not the game's.
    var scope = new URL(self.registration.scope).pathname;
    if (url.pathname === scope || url.pathname === scope + PAGE)
      event.respondWith(kept(PAGE, request));
    return;
  }
  event.respondWith(kept(request, request));
});

// What this version keeps under that name, else what the version before it keeps (for a page
// of that version), else the network's answer.
function kept(name, request) {
  return caches.open(CACHE)
    .then(function(cache) { return cache.match(name); })
    .then(function(found) { return found || caches.match(name); })
    .then(function(found) { return found || fetch(request); });
}
