// The live device's page: the lock screen to touch, the controls, the settings
// pane and the log. It talks to `dayglass serve` only through the step language,
// the state, the screen, the layout, the settings and the event stream.
'use strict';

const $ = (selector) => document.querySelector(selector);
const screenImage = $('#screen');

let state = null;
let layout = null;

// A word of the step language: quoted, with \ and " kept by a backslash.
function word(text) {
  return '"' + String(text).replace(/[\\"]/g, (c) => '\\' + c) + '"';
}

function say(text, isError = false) {
  const status = $('#status');
  status.textContent = text;
  status.classList.toggle('error', isError);
}

// The server's words: its JSON, or the text of an answer that is not JSON (a
// stale token's 403) as the error.
async function answerOf(response) {
  if ((response.headers.get('Content-Type') || '').startsWith('application/json')) return response.json();
  return { error: (await response.text()).trim() || `the server answered ${response.status}` };
}

async function step(text) {
  const response = await fetch('/api/step', { method: 'POST', body: text, headers: { 'Content-Type': 'text/plain' } });
  const answer = await answerOf(response);
  if (!response.ok) {
    say(answer.error, true);
    throw new Error(answer.error);
  }
  say(text);
  return answer;
}

async function getJSON(path) {
  const response = await fetch(path);
  if (!response.ok) throw new Error(path + ': ' + response.status);
  return response.json();
}

// Runs `work` once now and, when asked again while it runs, once more after:
// a burst of news costs two runs, not one per news.
function coalesced(work) {
  let running = false;
  let again = false;
  return async function run() {
    if (running) {
      again = true;
      return;
    }
    running = true;
    try {
      do {
        again = false;
        await work();
      } while (again);
    } catch (error) {
      say(String(error.message || error), true);
    } finally {
      running = false;
    }
  };
}

const refreshScreen = coalesced(async () => {
  const response = await fetch('/api/screen.png');
  if (!response.ok) throw new Error('screen: ' + response.status);
  const url = URL.createObjectURL(await response.blob());
  const old = screenImage.src;
  screenImage.src = url;
  screenImage.dataset.version = response.headers.get('X-Screen-Version');
  if (old.startsWith('blob:')) URL.revokeObjectURL(old);
});

const refreshState = coalesced(async () => {
  state = await getJSON('/api/state');
  showState();
});

// Only a finger put down needs the views; while one drags, they wait.
const refreshLayout = coalesced(async () => {
  layout = await getJSON('/api/layout');
});

const refreshSettings = coalesced(async () => {
  const [settings, calendars] = await Promise.all([getJSON('/api/settings'), getJSON('/api/calendars')]);
  drawSettings(settings);
  drawCalendars(calendars);
});

function showState() {
  const [width, height] = state.screenSize;
  const device = $('#device');
  device.className = state.orientation;
  device.style.setProperty('--screen-width', width + 'px');
  device.style.setProperty('--screen-height', height + 'px');
  screenImage.width = width;
  screenImage.height = height;
  $('#device-form').elements.device.value = state.device;
  $('#passcode-prompt').hidden = !state.passcodePrompt;
  const front = state.foreground ? `In front: ${state.foreground} — ${state.foregroundShows}` : 'In front: the lock screen';
  const waiting = state.pendingLaunch ? ` · waiting for the unlock: ${state.pendingLaunch}` : '';
  $('#in-front').textContent = `${front}${waiting} · list: ${state.list} · screen ${state.screen}${state.locked ? ', locked' : ''}`;
}

// The newest lines on top, each step's lines in their order under it.
function addLines(list, lines, limit = 200) {
  list.prepend(...lines.map((line) => Object.assign(document.createElement('li'), { textContent: line })));
  while (list.children.length > limit) list.lastChild.remove();
}

function launchText(launch) {
  if (launch.kind === 'url')
    return `${launch.application || 'nothing'} ← ${launch.url}${launch.asksToUnlock ? ' (asks to unlock)' : ''}`;
  return `${launch.application} opened, showing ${launch.shows}`;
}

function hear(news) {
  if (news.kind === 'settings') {
    refreshSettings();
    refreshScreen();
    return;
  }
  const heading = news.step ? [news.step] : [];
  addLines($('#log'), [...heading, ...(news.log || []).map((line) => '  ' + line), ...(news.error ? ['  refused: ' + news.error] : [])]);
  addLines($('#launches'), (news.launches || []).map(launchText));
  refreshScreen();
  refreshState();
  if (!touch) refreshLayout();
  if (news.step && /^(calendars|prefs)\b/.test(news.step)) refreshSettings();
}

function refreshAll() {
  refreshScreen();
  refreshState();
  refreshLayout();
  refreshSettings();
}

function follow() {
  const events = new EventSource('/api/events');
  events.addEventListener('open', () => {
    say('connected');
    refreshAll();
  });
  events.addEventListener('change', (event) => hear(JSON.parse(event.data)));
  events.addEventListener('dropped', refreshAll);
  // A stream refused (a server started anew, with another token) is not tried again.
  events.addEventListener('error', () => {
    if (events.readyState === EventSource.CLOSED)
      say('this page no longer reaches the device: open the address dayglass serve printed, with its token', true);
    else say('the device is not answering; trying again…', true);
  });
}

// Touch.

// The point under the pointer, in the screen's points.
function pointOf(event) {
  const box = screenImage.getBoundingClientRect();
  const [width, height] = state.screenSize;
  return { x: ((event.clientX - box.left) * width) / box.width, y: ((event.clientY - box.top) * height) / box.height };
}

function contains(frame, point) {
  const [x, y, width, height] = frame;
  return point.x >= x && point.x < x + width && point.y >= y && point.y < y + height;
}

// The views under the point, outermost first.
function viewsAt(node, point, path = []) {
  if (node.hidden || !contains(node.pictureFrame, point)) return path;
  path.push(node);
  for (const subview of [...(node.subviews || [])].reverse()) {
    const deeper = viewsAt(subview, point, []);
    if (deeper.length) return path.concat(deeper);
  }
  return path;
}

// What a finger put down at the point would move: a row of the event list,
// the list itself, or the notification list.
function targetAt(point) {
  if (!layout || state.screen !== 'on' || !state.locked) return null;
  const path = viewsAt(layout.screen, point);
  const list = path.findIndex((view) => view.class === 'DGLEventTable');
  const notifications = path.some((view) => view.class === 'UICollectionView');
  if (list < 0) return notifications ? { vertical: 'drag-notifications' } : null;
  const target = { vertical: 'drag-table' };
  const cell = path.findIndex((view) => view.class === 'DGLTableViewCell');
  // The row's content sits in a scroll view tagged section × 1000 + row (a tag of 0 is not listed).
  const row = cell < 0 ? null : path.slice(cell).find((view) => view.class === 'UIScrollView');
  if (row) {
    const tag = row.tag || 0;
    target.section = Math.floor(tag / 1000);
    target.row = tag - target.section * 1000;
    target.width = row.pictureFrame[2];
  }
  return target;
}

// One finger on the device: each move is a step that holds it, the last one
// lets go. A move while a step is on its way replaces any move still waiting.
class Finger {
  constructor(command) {
    this.command = command;
    this.wanted = null;
    this.lifted = false;
    this.busy = false;
  }

  move(value) {
    this.wanted = value;
    this.pump();
  }

  lift(value) {
    this.lifted = true;
    this.move(value);
  }

  async pump() {
    if (this.busy) return;
    this.busy = true;
    while (this.wanted !== null) {
      const value = Math.round(this.wanted * 10) / 10;
      this.wanted = null;
      const hold = this.lifted && this.wanted === null ? '' : ' hold';
      try {
        await step(`${this.command} ${value}${hold}`);
      } catch {
        break;
      }
    }
    this.busy = false;
  }
}

let touch = null;

screenImage.addEventListener('pointerdown', (event) => {
  if (!state) return;
  const start = pointOf(event);
  const target = targetAt(start);
  if (!target) return;
  screenImage.setPointerCapture(event.pointerId);
  touch = { start, target, finger: null };
});

screenImage.addEventListener('pointermove', (event) => {
  if (!touch) return;
  const point = pointOf(event);
  const dx = point.x - touch.start.x;
  const dy = point.y - touch.start.y;
  if (!touch.finger) {
    if (Math.hypot(dx, dy) < 6) return;
    const sideways = Math.abs(dx) > Math.abs(dy) && touch.target.row !== undefined;
    touch.sideways = sideways;
    touch.finger = new Finger(
      sideways ? `swipe ${touch.target.section} ${touch.target.row}` : touch.target.vertical
    );
  }
  touch.finger.move(distanceOf(dx, dy));
});

function distanceOf(dx, dy) {
  // A row gives way less and less: it never reaches its own width.
  return touch.sideways ? Math.min(Math.max(0, dx), touch.target.width - 1) : dy;
}

function lift(event) {
  if (!touch) return;
  if (touch.finger) {
    const point = pointOf(event);
    touch.finger.lift(distanceOf(point.x - touch.start.x, point.y - touch.start.y));
  }
  touch = null;
  refreshLayout();
}

screenImage.addEventListener('pointerup', lift);
screenImage.addEventListener('pointercancel', lift);

// Controls.

$('#home').addEventListener('click', async () => {
  if (!state) return;
  if (state.screen === 'off') await step('wake');
  else if (state.locked) {
    await step('unlock');
    if (state.passcode) $('#passcode-prompt').elements.passcode.focus();
  }
});

// The controls beside the device, one row each: the heading it shows under, its
// fields, its button and the step it sends (from the form's fields). A row
// without a button sends its step as soon as its field changes.
const models = [['iphone7', 'iPhone 7'], ['iphonese', 'iPhone SE'], ['iphone7plus', 'iPhone 7 Plus'], ['ipad', 'iPad']];
const controls = [
  { group: 'Device', id: 'sleep-wake', button: 'Sleep / wake', step: () => (state && state.screen === 'on' ? 'lock' : 'wake') },
  { group: 'Device', button: 'Lock', step: () => 'lock' },
  { group: 'Device', id: 'authenticate', button: 'Touch ID', step: () => 'authenticate' },
  { group: 'Device', id: 'rotate', button: 'Rotate', step: () => `rotate ${state && state.orientation === 'portrait' ? 'landscape' : 'portrait'}` },
  { group: 'Device', id: 'device-form', fields: [{ name: 'device', label: 'Model', choices: models }], step: (form) => `device ${form.device.value}` },
  {
    group: 'Device', button: 'Set',
    fields: [{ name: 'code', label: 'Passcode', inputmode: 'numeric', autocomplete: 'off', placeholder: 'none' }],
    step: (form) => `passcode ${word(form.code.value)}`,
  },
  {
    group: 'Notifications', id: 'notify-form', button: 'Post',
    fields: [
      { name: 'app', label: 'App', value: 'Messages', required: true },
      { name: 'title', label: 'Title', value: 'Anna', required: true },
      { name: 'message', label: 'Message', value: 'Running late' },
    ],
    step: (form) => `notify ${word(form.app.value)} ${word(form.title.value)} ${word(form.message.value)}`,
  },
  { group: 'Notifications', button: 'Clear newest', step: () => 'clear 1' },
  { group: 'Notifications', button: 'Clear all', step: () => 'clear all' },
  {
    group: 'Time and place', button: 'Wait',
    fields: [{ name: 'seconds', label: 'Idle', type: 'number', min: 0, value: 10, unit: 's' }],
    step: (form) => `idle ${form.seconds.value || 0}`,
  },
  { group: 'Time and place', button: 'Travel', fields: [{ name: 'now', label: 'Now', type: 'datetime-local', required: true }], step: (form) => `now ${form.now.value}` },
  { group: 'Time and place', button: 'Set', fields: [{ name: 'zone', label: 'Zone', placeholder: 'Europe/Berlin', required: true }], step: (form) => `tz ${word(form.zone.value)}` },
  { group: 'Time and place', button: 'Set', fields: [{ name: 'locale', label: 'Locale', placeholder: 'de_DE', required: true }], step: (form) => `locale ${word(form.locale.value)}` },
];

function fieldFor({ label, unit, choices, ...properties }) {
  const field = choices
    ? element('select', properties, choices.map(([value, textContent]) => element('option', { value, textContent })))
    : element('input', properties);
  if (properties.inputmode) field.setAttribute('inputmode', properties.inputmode);
  return element('label', {}, [label + ' ', field, ...(unit ? [' ' + unit] : [])]);
}

function drawControls() {
  const groups = new Map();
  for (const control of controls) {
    if (!groups.has(control.group)) groups.set(control.group, element('div', { className: 'control-group' }));
    const fields = (control.fields || []).map(fieldFor);
    const button = control.button ? [element('button', { type: 'submit', textContent: control.button })] : [];
    const form = element('form', { className: fields.length ? 'control with-fields' : 'control' }, [...fields, ...button]);
    if (control.id) form.id = control.id;
    const send = () => step(control.step(form.elements)).catch(() => {});
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      send();
    });
    if (!control.button) form.addEventListener('change', send);
    groups.get(control.group).append(form);
  }
  $('#control-groups').replaceChildren(
    ...[...groups].flatMap(([title, group]) => [element('h2', { textContent: title }), group])
  );
}

for (const button of document.querySelectorAll('[data-step]'))
  button.addEventListener('click', () => step(button.dataset.step));

$('#passcode-prompt').addEventListener('submit', (event) => {
  event.preventDefault();
  step(`unlock ${word(event.target.elements.passcode.value)}`).catch(() => {});
});

// The settings pane.

function element(tag, properties = {}, children = []) {
  const made = Object.assign(document.createElement(tag), properties);
  made.append(...children);
  return made;
}

// The value a control shows: the stored one, else the default.
function shownValue(setting) {
  if (setting.value !== null) return setting.value;
  const byName = setting.choices.find((choice) => choice.name === setting.default || choice.value === setting.default);
  if (byName) return byName.value;
  if (setting.default === 'YES' || setting.default === 'NO') return setting.default === 'YES';
  return setting.default.replace(/^"(.*)"$/, '$1');
}

function store(key, value) {
  step(`prefs set ${key} ${word(value)}`).catch(() => refreshSettings());
}

function controlFor(setting) {
  const value = shownValue(setting);
  const name = setting.key;
  switch (setting.control) {
    case 'switch': {
      const box = element('input', { type: 'checkbox', name, checked: value === true || value === 1 });
      box.addEventListener('change', () => store(name, box.checked ? 'YES' : 'NO'));
      return box;
    }
    case 'stepper': {
      const range = setting.range || {};
      const field = element('input', { type: 'number', name, min: range.lowest, max: range.highest, step: 1, value });
      field.addEventListener('change', () => field.reportValidity() && field.value !== '' && store(name, field.value));
      return field;
    }
    case 'color': {
      const swatches = element('div', { className: 'swatches', role: 'radiogroup' });
      for (const choice of setting.choices) {
        const radio = element('input', { type: 'radio', name, value: choice.value, checked: String(value) === choice.value });
        radio.addEventListener('change', () => store(name, choice.value));
        const swatch = element('span', { className: 'swatch', title: choice.name });
        const [r, g, b, a] = choice.rgba;
        swatch.style.backgroundColor = `rgba(${r * 255}, ${g * 255}, ${b * 255}, ${a})`;
        swatches.append(element('label', { title: `${choice.value}: ${choice.name}` }, [radio, swatch]));
      }
      return swatches;
    }
    default: {
      const menu = element('select', { name });
      if (setting.control === 'application') menu.append(element('option', { value: '', textContent: '(none)' }));
      for (const choice of setting.choices)
        menu.append(element('option', { value: choice.value, textContent: choice.name }));
      menu.value = String(value);
      menu.addEventListener('change', () => store(name, menu.value));
      return menu;
    }
  }
}

function drawSettings(settings) {
  const form = $('#settings-form');
  const groups = settings.groups.map((group) =>
    element('fieldset', {}, [
      element('legend', { textContent: group.title }),
      ...group.settings.map((setting) =>
        element('div', { className: 'setting ' + setting.control, title: setting.takes }, [
          element('span', { className: 'key', textContent: setting.key }),
          controlFor(setting),
        ])
      ),
    ])
  );
  form.replaceChildren(...groups);
}

function drawCalendars(answer) {
  const form = $('#calendars-form');
  const rows = answer.calendars.map((calendar) => {
    const box = element('input', { type: 'checkbox', name: 'calendar', value: calendar.identifier, checked: calendar.chosen });
    box.addEventListener('change', () => {
      const chosen = [...form.querySelectorAll('input:checked')].map((input) => word(input.value));
      step(['calendars', ...chosen].join(' ')).catch(() => refreshSettings());
    });
    const swatch = element('span', { className: 'swatch' });
    const [r, g, b, a] = calendar.color || [0.5, 0.5, 0.5, 1];
    swatch.style.backgroundColor = `rgba(${r * 255}, ${g * 255}, ${b * 255}, ${a})`;
    return element('label', { className: 'calendar' }, [box, swatch, calendar.title]);
  });
  form.replaceChildren(...rows);
}

drawControls();
follow();
