// The page's side of the web platform layer: the canvas, Web Audio, the page's storage and the
// page's own controls. Linked into the game with --js-library; the C++ side is platform/web.

mergeInto(LibraryManager.library, {
  $hoplaPage: {
    canvas: function() { return document.getElementById('canvas'); },
    context2d: null,
    image: null,
    sound: null,      // the AudioContext, once the player's first gesture opened it
    buffers: [],      // an AudioBuffer per sound bank entry
    sources: [],      // the source each entry last started
    asked: [],        // when each entry was asked to play while there was no AudioContext yet
    gestureStart: 0,  // when the press or touch that may open the AudioContext began
    opening: false,   // the AudioContext is being opened, in a gesture
    contextMenu: null, // the canvas's contextmenu listener
  },

  // Puts the part x, y, w, h of width x height RGBA pixels on the canvas. The ImageData is a
  // view of the module's memory, made again only when the pixels move or the memory grows, so
  // the picture is not copied on its way. The canvas is opaque and kept in main memory
  // (willReadFrequently), where putting pixels measured cheapest. Should the browser ever drop
  // the canvas's picture (a lost context), the next frame puts the whole picture again.
  hopla_present__deps: ['$hoplaPage'],
  hopla_present: function(pixels, width, height, x, y, w, h) {
    var context = hoplaPage.context2d;
    if (!context) {
      var canvas = hoplaPage.canvas();
      if (!canvas) return;
      context = canvas.getContext('2d', {alpha: false, willReadFrequently: true});
      hoplaPage.context2d = context;
      canvas.addEventListener('contextrestored', function() { hoplaPage.image = null; });
    }
    var image = hoplaPage.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset !== pixels ||
        image.width !== width || image.height !== height) {
      var whole = !image || image.width !== width || image.height !== height;
      var bytes = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
      image = hoplaPage.image = new ImageData(bytes, width, height);
      if (whole) x = 0, y = 0, w = width, h = height;
    }
    context.putImageData(image, 0, 0, x, y, w, h);
  },

  // A point of the page (client coordinates) in pixels of the canvas's picture, through the
  // size the canvas is shown at; written as two ints at out.
  hopla_canvas_point__deps: ['$hoplaPage'],
  hopla_canvas_point: function(clientX, clientY, out) {
    var canvas = hoplaPage.canvas();
    var x = 0, y = 0;
    if (canvas) {
      var box = canvas.getBoundingClientRect();
      if (box.width > 0 && box.height > 0) {
        x = Math.floor((clientX - box.left) * canvas.width / box.width);
        y = Math.floor((clientY - box.top) * canvas.height / box.height);
      }
    }
    HEAP32[out >> 2] = x;
    HEAP32[(out >> 2) + 1] = y;
  },

  // CSS pixels per pixel of the canvas's picture, as the canvas is shown now.
  hopla_canvas_css_scale__deps: ['$hoplaPage'],
  hopla_canvas_css_scale: function() {
    var canvas = hoplaPage.canvas();
    if (!canvas || !canvas.width) return 1;
    var width = canvas.getBoundingClientRect().width;
    return width > 0 ? width / canvas.width : 1;
  },

  // Calls back (data, clientX, clientY) for each context menu asked for over the canvas (the
  // right button; a long press on a touch screen), keeping the browser's own menu away. A null
  // callback stops listening.
  hopla_listen_context_menu__deps: ['$hoplaPage'],
  hopla_listen_context_menu: function(callback, data) {
    var canvas = hoplaPage.canvas();
    if (!canvas) return;
    if (hoplaPage.contextMenu) canvas.removeEventListener('contextmenu', hoplaPage.contextMenu);
    hoplaPage.contextMenu = null;
    if (!callback) return;
    hoplaPage.contextMenu = function(event) {
      event.preventDefault();
      {{{ makeDynCall('viii', 'callback') }}}(data, event.clientX, event.clientY);
    };
    canvas.addEventListener('contextmenu', hoplaPage.contextMenu);
  },

  hopla_set_cursor_visible__deps: ['$hoplaPage'],
  hopla_set_cursor_visible: function(visible) {
    var canvas = hoplaPage.canvas();
    if (canvas) canvas.style.cursor = visible ? 'default' : 'none';
  },

  // Readies Web Audio. The AudioContext itself is made in the player's first gesture (a
  // click, a touch lifted, a key): browsers hold back, and warn about, sound from a context
  // made or resumed before one. Sounds the game plays until then are silent, but for those
  // asked for since that gesture began (the kick of a first tap, whose touch opens the
  // context only as it lifts), which play as it opens.
  hopla_audio_open__deps: ['$hoplaPage', 'hopla_audio_play'],
  hopla_audio_open: function() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context || !window.AudioBuffer) return 0;
    if (hoplaPage.opening) return 1;
    hoplaPage.opening = true;
    var begin = function() {
      if (!hoplaPage.sound) hoplaPage.gestureStart = performance.now();
    };
    var open = function() {
      // Only within what the browser counts as a gesture: not ESC, not a touch still down.
      if (navigator.userActivation && !navigator.userActivation.isActive) return;
      if (!hoplaPage.sound) {
        try {
          hoplaPage.sound = new Context();
        } catch (e) {
          return;
        }
        var asked = hoplaPage.asked;
        hoplaPage.asked = [];
        asked.forEach(function(time, entry) {
          if (time >= hoplaPage.gestureStart) _hopla_audio_play(entry);
        });
      }
      // Suspended, or interrupted by the system (a call on a phone).
      if (hoplaPage.sound.state !== 'running') hoplaPage.sound.resume().catch(function() {});
    };
    ['pointerdown', 'touchstart'].forEach(function(type) {
      document.addEventListener(type, begin, true);
    });
    ['pointerdown', 'pointerup', 'mousedown', 'touchend', 'keydown', 'click'].forEach(
        function(type) { document.addEventListener(type, open, true); });
    return 1;
  },

  // Turns a sound's PCM samples (8-bit unsigned or 16-bit signed, interleaved) into the
  // AudioBuffer of that bank entry. 0 when Web Audio refuses the format.
  hopla_audio_load__deps: ['$hoplaPage'],
  hopla_audio_load: function(entry, samples, bytes, rate, channels, bits) {
    if ((bits !== 8 && bits !== 16) || channels < 1) return 0;
    var frameBytes = channels * bits / 8;
    var frames = Math.floor(bytes / frameBytes);
    if (frames < 1) return 0;
    var buffer;
    try {
      buffer = new AudioBuffer({numberOfChannels: channels, length: frames, sampleRate: rate});
    } catch (e) {
      return 0;
    }
    for (var c = 0; c < channels; ++c) {
      var data = buffer.getChannelData(c);
      for (var i = 0; i < frames; ++i) {
        var at = samples + i * frameBytes + c * bits / 8;
        data[i] = bits === 16 ? HEAP16[at >> 1] / 32768 : (HEAPU8[at] - 128) / 128;
      }
    }
    hoplaPage.buffers[entry] = buffer;
    return 1;
  },

  // Cuts off what the entry last started, as a sound restarted on the desktop is.
  hopla_audio_stop__deps: ['$hoplaPage'],
  hopla_audio_stop: function(entry) {
    delete hoplaPage.asked[entry];
    var source = hoplaPage.sources[entry];
    hoplaPage.sources[entry] = null;
    if (source) {
      try { source.stop(); } catch (e) { /* already ended */ }
    }
    return 1;
  },

  // Plays the entry once from its start.
  hopla_audio_play__deps: ['$hoplaPage', 'hopla_audio_stop'],
  hopla_audio_play: function(entry) {
    var buffer = hoplaPage.buffers[entry];
    if (!buffer) return 0;
    _hopla_audio_stop(entry);
    if (!hoplaPage.sound) {
      hoplaPage.asked[entry] = performance.now();
      return 1;
    }
    var source = hoplaPage.sound.createBufferSource();
    source.buffer = buffer;
    source.connect(hoplaPage.sound.destination);
    source.start();
    hoplaPage.sources[entry] = source;
    return 1;
  },

  // The text stored under the key, as a string the caller frees; 0 when there is none, and
  // then the int at refused says whether the page may not use its storage at all (blocked by
  // the browser's settings: localStorage throws, or is missing).
  hopla_storage_read: function(key, refused) {
    var text = null;
    HEAP32[refused >> 2] = 0;
    try {
      text = window.localStorage.getItem(UTF8ToString(key));
    } catch (e) {
      HEAP32[refused >> 2] = 1;
      return 0;
    }
    if (text === null) return 0;
    var size = lengthBytesUTF8(text) + 1;
    var copy = _malloc(size);
    if (copy) stringToUTF8(text, copy, size);
    return copy;
  },

  // Stores the text under the key: 0 when stored, 1 when the page may not use its storage,
  // 2 when the site's share of it is full (StorageWrite in page_bindings.h).
  hopla_storage_write: function(key, text) {
    try {
      window.localStorage.setItem(UTF8ToString(key), UTF8ToString(text));
      return 0;
    } catch (e) {
      return e && (e.name === 'QuotaExceededError' || e.code === 22) ? 2 : 1;
    }
  },

  // One line about the best score's storage under the canvas (the page's hoplaStorageLine);
  // an empty line takes it away.
  hopla_storage_said: function(line) {
    if (window.hoplaStorageLine) window.hoplaStorageLine(UTF8ToString(line));
  },

  // Calls back (data) whenever another tab of this site changes the text stored under the key,
  // or clears the storage: the browser's storage event, which never comes for the page's own
  // writes. It only tells; what is stored is read again through hopla_storage_read.
  hopla_storage_on_change: function(key, callback, data) {
    var name = UTF8ToString(key);
    window.addEventListener('storage', function(event) {
      if (event.key !== name && event.key !== null) return;
      {{{ makeDynCall('vi', 'callback') }}}(data);
    });
  },

  // A message box of the game, shown in the page (the page's hoplaShowMessage).
  hopla_page_message: function(caption, text) {
    if (window.hoplaShowMessage) window.hoplaShowMessage(UTF8ToString(caption), UTF8ToString(text));
  },

  // Calls back (a void function) when the page is being left, and when it is hidden: a hidden
  // tab may be discarded, or a phone's browser killed, without a pagehide.
  hopla_page_on_hide: function(callback) {
    var hidden = function() {
      {{{ makeDynCall('v', 'callback') }}}();
    };
    window.addEventListener('pagehide', hidden);
    document.addEventListener('visibilitychange', function() {
      if (document.visibilityState === 'hidden') hidden();
    });
  },

  // The game has ended: the page offers a new one, which calls back.
  hopla_page_ended: function(callback) {
    if (window.hoplaGameEnded) {
      window.hoplaGameEnded(function() {
        {{{ makeDynCall('v', 'callback') }}}();
      });
    }
  },

  hopla_page_started: function() {
    if (window.hoplaGameStarted) window.hoplaGameStarted();
  },
});
